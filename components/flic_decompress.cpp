#include "components/flic_decompress.h"

namespace mirva {

FlicDecompressComponentType::FlicDecompressComponentType()
    : ComponentTypeFor("FlicDecompress", "FlicDecompress decompresses a flic animation to be shown for example with sprite")
{
    declareConstructionParameter(FlicDecompressVariable::Flic, ValueType::String, "Flic");
    declareParameter(FlicDecompressVariable::FPS, ValueType::Float, "FPS");
}

}  // namespace mirva
