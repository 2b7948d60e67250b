// The program entry point: keeps the arguments for ArgumentText and runs the program.
#include "platform/linux/arguments.h"
#include "platform/process.h"

int main(int argc, char** argv) {
    platform::linux_detail::KeepArguments(argc, argv);
    return ProgramMain();
}
