#pragma once

// The glTF library (tinygltf, over nlohmann::json), set up once, so that every file that uses it
// sees the same declarations: no image decoding or encoding (an export holds no pictures) and no
// file access of its own (files are written through DurableFile). Include this, never
// <tiny_gltf.h> itself.
#define TINYGLTF_NO_STB_IMAGE
#define TINYGLTF_NO_STB_IMAGE_WRITE
#define TINYGLTF_NO_EXTERNAL_IMAGE
#define TINYGLTF_NO_FS
#include <tiny_gltf.h>
