// Extraction of a 7z archive into a folder with the LZMA SDK's decoders: the engine operation
// behind both modes of Lua_UnCompress7z. Each folder (solid block) is decoded in pieces that
// go straight into the items' files, so memory does not grow with a folder's unpacked size.
#pragma once
#include <string>

#include "7zTypes.h"
#include "decodedstream.h"

class ScriptCallback;

// Reads the archive from `stream` (its database through a 16 KB look-ahead reader) and
// creates its items beneath `destination`. `fileDone` (may be null) is called with each
// written file's path; `createError` (may be null) decides what happens when a file cannot be
// created: 0 retry once, 1 skip the file, anything else abort. Returns the decoder's status,
// 11 for a failed file operation, or the error code of a skipped last file. An item whose
// data turns out damaged is removed again; the items before it stay.
SRes ExtractArchive(ISeekInStreamPtr stream, const std::wstring& destination,
                    ScriptCallback* fileDone, ScriptCallback* createError,
                    const DecodeLimits& limits = DecodeLimits());

// Whether an item name stays beneath the destination when joined to it: no empty, "." or
// ".." component (dots and blanks only, which Windows trims to those), no drive or stream
// colon, no leading separator. Both "/" and "\" count as separators.
bool IsSafeItemName(const wchar_t* name);
