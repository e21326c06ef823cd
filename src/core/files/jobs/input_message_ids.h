#pragma once
// String-table ids of the messages about what goes into a container.
namespace sealwise::msg {

constexpr int kNameCollision = 610;           // %s: the inputs and the name they share
constexpr int kNameNotStorable = 611;         // %s: the input file
constexpr int kNothingStored = 612;           // no entry stored: no container written
constexpr int kLinkToDirectoryLeftOut = 613;  // %s: the link
constexpr int kDirectoryUnreadable = 614;     // %s: the directory, %d: the system's description
constexpr int kSpecialFileLeftOut = 615;      // %s: the device, FIFO or socket
constexpr int kInputUnreadable = 616;         // %s: the path, %d: the system's description
constexpr int kContainerKept = 617;           // %s: the existing container

}  // namespace sealwise::msg
