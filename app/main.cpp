#include "app/program.h"

int main(int argc, char *argv[])
{
    return quelt_main(argc, argv);
}
