#include "shared/win/Bcrypt.h"

#include <optional>

#include "shared/win/Diagnostics.h"

namespace stickwell::win {
namespace {

template <typename Function>
bool Find(HMODULE module, const char* name, Function& function) {
  function = reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
  if (function) return true;
  const DWORD error = ::GetLastError();
  wchar_t wide[40] = {};
  for (size_t i = 0; name[i] && i + 1 < std::size(wide); ++i) wide[i] = static_cast<wchar_t>(name[i]);
  TraceError(error, {L"GetProcAddress bcrypt.dll ", wide});
  return false;
}

std::optional<BcryptFunctions> Load() {
  const HMODULE module = ::LoadLibraryW(L"bcrypt.dll");
  if (!module) {
    TraceLastError({L"LoadLibraryW bcrypt.dll"});
    return std::nullopt;
  }
  BcryptFunctions f{};
  const bool found = Find(module, "BCryptOpenAlgorithmProvider", f.openAlgorithmProvider) &&
                     Find(module, "BCryptCloseAlgorithmProvider", f.closeAlgorithmProvider) &&
                     Find(module, "BCryptCreateHash", f.createHash) &&
                     Find(module, "BCryptHashData", f.hashData) &&
                     Find(module, "BCryptFinishHash", f.finishHash) &&
                     Find(module, "BCryptDestroyHash", f.destroyHash) &&
                     Find(module, "BCryptGenerateKeyPair", f.generateKeyPair) &&
                     Find(module, "BCryptFinalizeKeyPair", f.finalizeKeyPair) &&
                     Find(module, "BCryptImportKeyPair", f.importKeyPair) &&
                     Find(module, "BCryptExportKey", f.exportKey) &&
                     Find(module, "BCryptDestroyKey", f.destroyKey) &&
                     Find(module, "BCryptSignHash", f.signHash) &&
                     Find(module, "BCryptVerifySignature", f.verifySignature);
  // The module stays loaded for the rest of the run: the table points into it.
  if (!found) return std::nullopt;
  return f;
}

}  // namespace

const BcryptFunctions* Bcrypt() {
  static const std::optional<BcryptFunctions> functions = Load();
  return functions ? &*functions : nullptr;
}

UniqueBcryptAlgorithm OpenBcryptAlgorithm(const wchar_t* algorithm) {
  const BcryptFunctions* bcrypt = Bcrypt();
  BCRYPT_ALG_HANDLE handle = nullptr;
  if (!bcrypt) return {};
  if (const NTSTATUS status = bcrypt->openAlgorithmProvider(&handle, algorithm, nullptr, 0); !BCRYPT_SUCCESS(status)) {
    TraceError(static_cast<DWORD>(status), {L"BCryptOpenAlgorithmProvider ", algorithm});
    return {};
  }
  return UniqueBcryptAlgorithm(handle);
}

}  // namespace stickwell::win
