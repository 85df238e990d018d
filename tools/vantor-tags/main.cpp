#include "tools/vantor-tags/TagsCommand.h"

#include <iostream>

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    std::vector<std::string> arguments(argv + 1, argv + argc);
    const int code = vantor::RunTagsCommand(arguments, std::cout, std::cerr);
    std::cout.flush();
    return code;
}
