// DEVEJECT.EXE, the release tool that the uninstaller runs on each device
// node that it announces as removed:
//
//     DEVEJECT <device node number>
//
// The number is lowercase hexadecimal without prefix or leading zeros, as
// the uninstaller writes it ("0", "2f", "ffffffff"). The uninstaller waits
// for the tool and deletes the node's class driver key once it has ended;
// the tool's exit code is for a person running it by hand:
//
//     0  the argument named a device node
//     1  the argument was missing, more than one, or malformed
//
// Windows 95 has already been told through the device-change broadcasts that
// the node is gone, and takes the node out of its tree when the card's
// registry entries are gone at the next start; the tool itself therefore
// changes nothing on the machine. It is a windowless program so that no
// console flashes up while the uninstaller waits for it.
#include "pnp/devnode_arg.h"

enum ExitCode { kReleased = 0, kBadArgument = 1 };

int main(int argc, char** argv) {
  uint32_t devnode;
  if (argc != 2 || !ParseDevnodeArg(argv[1], &devnode)) return kBadArgument;
  return kReleased;
}
