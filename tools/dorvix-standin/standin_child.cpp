// Starting the stand-in again as a child that never ends, kept for the program's life, its id in a file.
#include "standin_child.h"

#include <fstream>

#include "platform/process.h"

void StartHangingChild(const std::string& self, const std::string& pidFile) {
    // Kept for the life of the program: its destructor ends the child when this program
    // ends normally, while a kill of this program leaves the child to whoever kills trees.
    static platform::ChildProcess child;
    platform::ProcessOptions options;
    options.executable = self;
    options.arguments = {kHangingChildArgument};
    if (child.Start(options)) std::ofstream(pidFile, std::ios::trunc) << child.Id() << "\n";
}
