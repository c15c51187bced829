#include "config/program_version_win.h"

#include <windows.h>

#include <string>
#include <vector>

namespace pellux {
namespace {

std::wstring ProgramPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    // A path that filled the buffer may have been cut short.
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace

std::optional<VersionNumbers> ModuleVersion::Numbers() {
  const std::wstring path = ProgramPath();
  if (path.empty()) return std::nullopt;
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return std::nullopt;
  std::vector<unsigned char> block(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return std::nullopt;
  void* found = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.data(), L"\\", &found, &length) || length < sizeof(VS_FIXEDFILEINFO)) {
    return std::nullopt;
  }
  const auto* info = static_cast<const VS_FIXEDFILEINFO*>(found);
  return VersionNumbers{HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS)};
}

}  // namespace pellux
