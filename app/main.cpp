#include "app/AppState.h"
#include "app/VantorForm.h"

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    try {
        vantor::TVantorForm form(std::move(arguments), vantor::ExecutableFolder());
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
