#pragma once
// Loading shared libraries with dlopen: the program folder first, then the installed program's private
// library folder (../lib/<multiarch>/nexoquadrix), then the normal library path.
#include <memory>
#include <string>

#include "platform/SharedLibrary.h"

namespace nq {

class DynamicLibraryLoader final : public SharedLibraryLoader {
public:
  /// programFolder: UTF-8, with or without the trailing "/".
  explicit DynamicLibraryLoader(std::string programFolder);
  std::unique_ptr<SharedLibrary> Load(const std::string& fileName) override;

private:
  std::string ProgramFolder;
};

} // namespace nq
