// The system's cryptography through CNG.

#include <windows.h>

#include <bcrypt.h>

#include <limits>

#include "platform/win32/win32_services.h"

namespace temvik {

namespace {

bool succeeded(NTSTATUS status) { return status >= 0; }

}  // namespace

bool Win32Crypto::randomBytes(std::span<std::uint8_t> out) {
  if (out.size() > std::numeric_limits<ULONG>::max()) return false;
  return succeeded(BCryptGenRandom(nullptr, out.data(), static_cast<ULONG>(out.size()),
                                   BCRYPT_USE_SYSTEM_PREFERRED_RNG));
}

bool Win32Crypto::pbkdf2Sha256(std::string_view password, std::span<const std::uint8_t> salt,
                               std::uint32_t iterations, std::span<std::uint8_t> out) {
  if (iterations == 0 || password.size() > std::numeric_limits<ULONG>::max() ||
      salt.size() > std::numeric_limits<ULONG>::max() ||
      out.size() > std::numeric_limits<ULONG>::max())
    return false;
  BCRYPT_ALG_HANDLE hmac = nullptr;
  if (!succeeded(BCryptOpenAlgorithmProvider(&hmac, BCRYPT_SHA256_ALGORITHM, nullptr,
                                             BCRYPT_ALG_HANDLE_HMAC_FLAG)))
    return false;
  // CNG wants real buffers even for an empty password or salt.
  UCHAR none = 0;
  auto* passwordBytes =
      password.empty() ? &none : reinterpret_cast<PUCHAR>(const_cast<char*>(password.data()));
  auto* saltBytes = salt.empty() ? &none : const_cast<PUCHAR>(salt.data());
  const NTSTATUS status = BCryptDeriveKeyPBKDF2(
      hmac, passwordBytes, static_cast<ULONG>(password.size()), saltBytes,
      static_cast<ULONG>(salt.size()), iterations, out.data(), static_cast<ULONG>(out.size()), 0);
  BCryptCloseAlgorithmProvider(hmac, 0);
  return succeeded(status);
}

}  // namespace temvik
