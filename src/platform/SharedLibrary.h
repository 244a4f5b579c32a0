#pragma once
#include <memory>
#include <string>

namespace nq {

// A loaded dynamic library and its entry points.
class SharedLibrary {
public:
  virtual ~SharedLibrary() = default;
  /// The address of an entry point, or nullptr when the library lacks it.
  virtual void* Symbol(const std::string& name) = 0;
};

class SharedLibraryLoader {
public:
  virtual ~SharedLibraryLoader() = default;
  /// Loads a library by file name (program folder first, then the library path); nullptr on failure.
  virtual std::unique_ptr<SharedLibrary> Load(const std::string& fileName) = 0;
};

} // namespace nq
