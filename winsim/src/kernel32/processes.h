// The processes' program files that tests set (winsimSetProcessImagePath).
#pragma once

namespace winsim {

// Every process runs the host program again.
void forgetProcessImagePaths();

}  // namespace winsim
