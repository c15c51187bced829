#include "config/program_version.h"

#include <windows.h>

#include <cstring>

namespace pellux {
namespace {

// In the version resource, the fixed part follows a 6-byte header and the key
// L"VS_VERSION_INFO" with its NUL (32 bytes), at the next 4-byte boundary.
constexpr std::size_t kFixedInfoOffset = 40;

}  // namespace

std::optional<VersionNumbers> ProgramVersion() {
  // The program's own resource, read in place: no version library needed.
  const HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
  if (found == nullptr) return std::nullopt;
  const void* block = LockResource(LoadResource(nullptr, found));
  if (block == nullptr ||
      SizeofResource(nullptr, found) < kFixedInfoOffset + sizeof(VS_FIXEDFILEINFO)) {
    return std::nullopt;
  }
  VS_FIXEDFILEINFO info;
  std::memcpy(&info, static_cast<const unsigned char*>(block) + kFixedInfoOffset, sizeof info);
  if (info.dwSignature != VS_FFI_SIGNATURE) return std::nullopt;
  return VersionNumbers{HIWORD(info.dwFileVersionMS), LOWORD(info.dwFileVersionMS)};
}

}  // namespace pellux
