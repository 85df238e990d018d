#include "app/ExecutableFolder.h"
#include "app/VantorForm.h"
#include "base/Collation.h"
#include "player/single_instance/SingleInst.h"

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    vantor::UseEnvironmentLocale();
    std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    try {
        // Before anything is shown or read: a running player takes the arguments instead.
        vantor::TSingleInst guard;
        if (!guard.CanStartApp(arguments))
            return 0;
        vantor::TVantorForm form(std::move(arguments), vantor::ExecutableFolder(), &guard);
        if (!form.FormCreate())
            return 1;
        form.FormShow();
        form.Run();
        form.FormDestroy();
    } catch (std::exception const& error) {
        std::fprintf(stderr, "vantor: %s\n", error.what());
        return 1;
    }
    return 0;
}
