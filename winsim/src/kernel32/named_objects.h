// Named mutexes and the private namespaces that hold them.
#pragma once

namespace winsim {

// Forgets every namespace; mutexes live on while their handles are open.
void resetNamedObjects();

}  // namespace winsim
