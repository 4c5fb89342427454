// Writes an installer: a copy of the stub program with the packed resources added. The
// output appears only when it is complete.
#pragma once
#include <string>
#include <vector>

#include "packresources.h"

bool IsPortableExecutable(const std::wstring& path, std::wstring& error);

bool WriteInstaller(const std::wstring& stub, const std::vector<PackResource>& resources,
                    const std::wstring& output, std::wstring& error);
