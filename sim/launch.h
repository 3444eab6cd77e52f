#pragma once
// Starting the program under test, and what the simulator finds from its own place on disk.

#include <sys/types.h>

#include <string>
#include <variant>
#include <vector>

namespace mirvane::sim {

// Starts command (searched on PATH when it has no slash) with the current environment.
// Returns its process id once it runs, or why it could not be started: a command that
// does not exist or may not be executed is reported here, not as an exit status.
std::variant<pid_t, std::string> start_program(const std::vector<std::string>& command);

// The path of a program in the simulator's own folder; mirvane is built and installed
// beside mirvane-sim.
std::string beside_self(const std::string& name);

// Where shipped scenarios are looked for by bare name, in order: the installed folder
// beside the simulator's (<bindir>/../share/mirvane/scenarios), and for a simulator in its
// build tree, the source's sim/scenarios.
std::vector<std::string> scenario_folders();

// The file that --script or --replay means: name itself when it exists or has a slash;
// otherwise name, or name with extension, in the first scenario folder that has it.
std::string find_scenario(const std::string& name, const std::string& extension);

// The exit status a shell would report for a waited-for process: its code, or 128 plus
// the signal that ended it.
int shell_status(int wait_status);

}  // namespace mirvane::sim
