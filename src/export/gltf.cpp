// The glTF library's implementation, compiled once into the core.
#define TINYGLTF_IMPLEMENTATION
// Its writer names std::ofstream even without file access (TINYGLTF_NO_FS), in code that is never
// called then, yet forgets to include it.
#include <fstream>

#include "export/gltf.h"

namespace pavaneflow {

// What tinygltf::TinyGLTF::WriteGltfSceneToStream does for a binary file, with the buffer's
// length given rather than its bytes copied.
std::string BinaryGltfJson(const tinygltf::Model& model, std::uint64_t binaryBytes) {
  json output;
  tinygltf::SerializeGltfModel(&model, output);
  json buffer;
  tinygltf::SerializeNumberProperty("byteLength", binaryBytes, buffer);
  json buffers;
  tinygltf::JsonPushBack(buffers, std::move(buffer));
  tinygltf::JsonAddMember(output, "buffers", std::move(buffers));
  return tinygltf::JsonToString(output);
}

}  // namespace pavaneflow
