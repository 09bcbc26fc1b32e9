// The glTF library's implementation, compiled once into the core.
#define TINYGLTF_IMPLEMENTATION
// Its writer names std::ofstream even without file access (TINYGLTF_NO_FS), in code that is never
// called then, yet forgets to include it.
#include <fstream>

#include "export/gltf.h"
