#include "init/parameter_initializer.h"

int main(int argc, char *argv[])
{
    ParameterInitializer initializer;
    return initializer.run(argc, argv);
}
