#include "advapi32/token_facts.h"

#include <map>
#include <mutex>

#include "winsim/control_kernel.h"

namespace {

struct Facts {
  std::string user;  // empty: the process's user
  DWORD integrity = SECURITY_MANDATORY_MEDIUM_RID;
  BOOL elevated = FALSE;
  DWORD linkedIntegrity = 0;
};

std::mutex factsLock;
std::map<DWORD, Facts> &facts() {
  static std::map<DWORD, Facts> byProcess;
  return byProcess;
}

Facts factsOf(DWORD processId) {
  std::lock_guard<std::mutex> hold(factsLock);
  auto found = facts().find(processId);
  return found == facts().end() ? Facts() : found->second;
}

}  // namespace

namespace winsim {

std::string processUserSidText(DWORD processId) {
  std::string user = factsOf(processId).user;
  return user.empty() ? currentUserSidTextForTokens() : user;
}

DWORD processIntegrityRid(DWORD processId) { return factsOf(processId).integrity; }

BOOL processElevated(DWORD processId) { return factsOf(processId).elevated; }

DWORD processLinkedIntegrityRid(DWORD processId) { return factsOf(processId).linkedIntegrity; }

void resetTokenFacts() {
  std::lock_guard<std::mutex> hold(factsLock);
  facts().clear();
}

}  // namespace winsim

extern "C" {

void winsimSetProcessUser(DWORD processId, LPCSTR sidText) {
  std::lock_guard<std::mutex> hold(factsLock);
  facts()[processId].user = sidText ? sidText : "";
}

void winsimSetProcessIntegrity(DWORD processId, DWORD rid) {
  std::lock_guard<std::mutex> hold(factsLock);
  facts()[processId].integrity = rid;
}

void winsimSetProcessElevated(DWORD processId, BOOL elevated) {
  std::lock_guard<std::mutex> hold(factsLock);
  facts()[processId].elevated = elevated;
}

void winsimSetProcessLinkedToken(DWORD processId, DWORD limitedRid) {
  std::lock_guard<std::mutex> hold(factsLock);
  facts()[processId].linkedIntegrity = limitedRid;
}

}  // extern "C"
