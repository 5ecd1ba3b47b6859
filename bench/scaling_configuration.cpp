#include "scaling_configuration.h"

#include <string>

namespace {

const char HEAD[] =
    "; vorn.ini\r\n"
    "[Options]\r\n"
    "UseXMOUSE=1\r\n"
    "MaskXMOUSEOnMOUSEMOVE=1\r\n"
    "[MaskXMOUSE]\r\n"
    "Match=Consoles\r\n"
    "[List1]\r\n"
    "Hook1=NCMBUTTONUP\r\n"
    "Hook2=MBUTTONUP\r\n"
    "1.Match=Desktop\r\n"
    "1.Action=NoAction\r\n"
    "2.Match=Consoles.Foreground\r\n"
    "2.Action=MinimizeOrLower\r\n"
    "2.Action.IfNextIsMinimized=Skip\r\n"
    "Default.Action=LowerAndSwitch\r\n"
    "[List2]\r\n"
    "Hook1=NCLBUTTONDBLCLK\r\n"
    "1.Match=Captions\r\n"
    "1.Action=ToggleMaximize\r\n"
    "[List3]\r\n"
    "Hook1=RBUTTONDOWN\r\n"
    "1.Match=Desktop.NotForeground\r\n"
    "1.Action=ShowDesktop\r\n"
    "Default.Action=Default\r\n";

const char *const USED_MATCHES[SCALING_MATCH_COUNT] = {
    "[Match.Desktop]\r\n"
    "nPattern=2\r\n"
    "1.Invoked.Class=Progman\r\n"
    "2.Invoked.Class=WorkerW\r\n",

    "[Match.Consoles]\r\n"
    "nPattern=2\r\n"
    "1.Active.Class=ConsoleWindowClass\r\n"
    "2.Parent.Class=mintty\r\n"
    "2.NCHitTest=CLIENT\r\n",

    "[Match.Captions]\r\n"
    "nPattern=1\r\n"
    "1.NCHitTest=CAPTION\r\n",
};

// The kinds of growth, about 300 bytes each; '#' stands for the block's
// number, which keeps section names apart.
const char *const GROWTH_KINDS[] = {
    "; Rules tried for a while and left here in case they are wanted again.\r\n"
    "; Block #: a middle click on a caption once minimised the window;\r\n"
    "; now LowerAndSwitch does the job better for most programs.\r\n"
    ";1.Match=Editors\r\n"
    ";1.Action=MinimizeOrLower\r\n"
    "\r\n",

    "[Match.Spare#]\r\n"
    "nPattern=3\r\n"
    "1.Invoked.Class=Spare#Frame\r\n"
    "1.NCHitTest=CAPTION\r\n"
    "2.Active.Class=Spare#Dialog\r\n"
    "2.Parent.Class=Spare#Main\r\n"
    "3.Invoked.Class=Spare#View\r\n"
    "3.NCHitTest=CLIENT\r\n"
    "\r\n",

    "[Notes.#]\r\n"
    "Author=someone who keeps notes in the configuration\r\n"
    "Written=long ago\r\n"
    "Why=the editor windows of this program kept stealing the focus\r\n"
    "Status=kept for reference\r\n"
    "\r\n",
};

std::string growthBlock(int number) {
  std::string text = GROWTH_KINDS[number % 3];
  std::string digits = std::to_string(number);
  for (size_t at = text.find('#'); at != std::string::npos; at = text.find('#', at)) {
    text.replace(at, 1, digits);
  }
  return text;
}

size_t usedMatchesSize() {
  size_t size = 0;
  for (const char *match : USED_MATCHES) size += std::string(match).size();
  return size;
}

// Growth of exactly `bytes` bytes: whole blocks, then one comment line
// (";xxx...") or an empty line for the rest.
std::string growth(size_t bytes, int *blockNumber) {
  std::string text;
  for (;;) {
    std::string block = growthBlock((*blockNumber)++);
    if (text.size() + block.size() > bytes) break;
    text += block;
  }
  size_t rest = bytes - text.size();
  if (rest >= 3) {
    text += ";" + std::string(rest - 3, 'x') + "\r\n";
  } else if (rest == 2) {
    text += "\r\n";
  } else if (rest == 1) {
    text += "\n";
  }
  return text;
}

}  // namespace

size_t smallestScalingConfiguration(void) { return sizeof HEAD - 1 + usedMatchesSize(); }

std::string scalingConfiguration(size_t bytes) {
  size_t fixed = smallestScalingConfiguration();
  size_t toGrow = bytes > fixed ? bytes - fixed : 0;
  const size_t quarters = SCALING_MATCH_COUNT + 1;
  std::string text = HEAD;
  int blockNumber = 1;
  for (size_t quarter = 0; quarter < quarters; ++quarter) {
    size_t share = toGrow / quarters + (quarter == quarters - 1 ? toGrow % quarters : 0);
    text += growth(share, &blockNumber);
    if (quarter < SCALING_MATCH_COUNT) text += USED_MATCHES[quarter];
  }
  return text;
}
