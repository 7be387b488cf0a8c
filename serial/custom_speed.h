// Line speeds that termios has no B-constant for (14400, 56000).
#pragma once

namespace sertra {

// Sets both directions of fd to rate baud; false when the driver refuses.
bool SetCustomSpeed(int fd, int rate);

}  // namespace sertra
