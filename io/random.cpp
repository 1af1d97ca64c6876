#include "io/random.h"

namespace mirva {

int randomNext()
{
    static RandomGenerator generator;
    return generator.next();
}

}  // namespace mirva
