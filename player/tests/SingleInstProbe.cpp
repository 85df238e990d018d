// A stand-in for the player in the single-instance tests: the guard on a test socket. A
// running probe reports on stdout what later starts hand over and serves until SIGTERM.
//   single_inst_probe SOCKET [--timeout-ms N] [--hang] [ARGUMENT...]
// Output lines: "RUNNING", "HANDED-OVER", "PARAMS" followed by one tab and each argument, and
// "RESTORE". --hang: run, but never serve.

#include "player/single_instance/SingleInst.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

volatile std::sig_atomic_t g_stop = 0;

void Line(std::string const& text)
{
    std::fputs((text + "\n").c_str(), stdout);
    std::fflush(stdout);
}

}

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    std::chrono::milliseconds timeout = std::chrono::seconds(10);
    bool hang = false;
    std::vector<std::string> arguments;
    for (int i = 2; i < argc; ++i) {
        std::string const argument = argv[i];
        if (argument == "--timeout-ms" && i + 1 < argc)
            timeout = std::chrono::milliseconds(std::atoi(argv[++i]));
        else if (argument == "--hang")
            hang = true;
        else
            arguments.push_back(argument);
    }
    std::signal(SIGTERM, [](int) { g_stop = 1; });

    vantor::TSingleInst guard(argv[1], timeout);
    if (!guard.CanStartApp(arguments)) {
        Line("HANDED-OVER");
        return 0;
    }
    Line(guard.Listening() ? "RUNNING" : "RUNNING UNGUARDED");
    guard.fOnProcessParam = [](std::vector<std::string> const& params) {
        std::string line = "PARAMS";
        for (std::string const& param : params)
            line += "\t" + param;
        Line(line);
    };
    guard.fOnEnsureRestore = [] { Line("RESTORE"); };
    while (!g_stop) {
        if (!hang)
            guard.ServeMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return 0;
}
