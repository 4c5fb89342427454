// The chunks that the install script wrote beside the product and the product's identity
// derived from them and from the folder.
#pragma once
#include <string>

extern const wchar_t kConfigChunkFile[];     // "Global_var.luac"
extern const wchar_t kUninstallChunkFile[];  // "UninstScript.luac"

// Runs the configuration chunk of `folder`, then loads the uninstall chunk and runs it too
// when `runUninstallChunk` is true (otherwise it is only checked). False when a chunk is
// missing, unreadable or does not load; `failedFile` then names it.
bool LoadUninstallChunks(const std::wstring& folder, bool runUninstallChunk,
                         std::wstring& failedFile);

// global_product_name, as the configuration chunk defined it.
std::wstring ProductName();

// Name of the single-instance object of the uninstaller of the product in `folder`.
std::wstring UninstallInstanceName(const std::wstring& folder);
