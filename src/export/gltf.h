#pragma once

#include <cstdint>
#include <string>

// The glTF library (tinygltf, over nlohmann::json), set up once, so that every file that uses it
// sees the same declarations: no image decoding or encoding (an export holds no pictures) and no
// file access of its own (files are written through DurableFile). Include this, never
// <tiny_gltf.h> itself.
#define TINYGLTF_NO_STB_IMAGE
#define TINYGLTF_NO_STB_IMAGE_WRITE
#define TINYGLTF_NO_EXTERNAL_IMAGE
#define TINYGLTF_NO_FS
#include <tiny_gltf.h>

namespace pavaneflow {

// The JSON of `model` as a binary glTF file holds it, made by tinygltf's own serializer, with the
// model's one buffer declared `binaryBytes` long: its bytes are the file's binary chunk, which
// the caller writes from where they are. (tinygltf's stream writer would first copy the whole
// buffer, hundreds of megabytes for an hours-long dance.) The model's buffer itself is not read.
std::string BinaryGltfJson(const tinygltf::Model& model, std::uint64_t binaryBytes);

}  // namespace pavaneflow
