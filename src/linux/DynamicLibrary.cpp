#include "linux/DynamicLibrary.h"

#include <dlfcn.h>
#include <unistd.h>

#ifndef NQ_PRIVATE_LIBDIR
#define NQ_PRIVATE_LIBDIR "lib/nexoquadrix"
#endif

namespace nq {

namespace {

class DynamicLibrary final : public SharedLibrary {
public:
  explicit DynamicLibrary(void* handle) : Handle(handle) {}
  ~DynamicLibrary() override { dlclose(Handle); }
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;
  void* Symbol(const std::string& name) override { return dlsym(Handle, name.c_str()); }

private:
  void* Handle;
};

} // namespace

DynamicLibraryLoader::DynamicLibraryLoader(std::string programFolder)
    : ProgramFolder(std::move(programFolder)) {
  if (!ProgramFolder.empty() && ProgramFolder.back() != '/') ProgramFolder += '/';
}

std::unique_ptr<SharedLibrary> DynamicLibraryLoader::Load(const std::string& fileName) {
  void* handle = nullptr;
  if (fileName.find('/') == std::string::npos && !ProgramFolder.empty()) {
    // Beside the program (a portable install), then the private library folder of an installed one.
    for (const std::string& folder : {ProgramFolder, ProgramFolder + "../" NQ_PRIVATE_LIBDIR "/"}) {
      const std::string candidate = folder + fileName;
      if (access(candidate.c_str(), F_OK) == 0) handle = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
      if (handle) break;
    }
  }
  // A bare name makes dlopen search the library path (LD_LIBRARY_PATH, the cache, the system folders).
  if (!handle) handle = dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) return nullptr;
  return std::make_unique<DynamicLibrary>(handle);
}

} // namespace nq
