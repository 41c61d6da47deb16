// Users start the program from their Downloads folder, where any web page
// may have left a DLL. Windows looks in the program's own folder first for
// every DLL that is not one of its KnownDLLs, so such a file would run inside
// the program with the user's rights. Every DLL therefore comes from
// System32 alone:
// - the DLLs the program imports that are not KnownDLLs are delay-loaded
//   (cmake/TrelvikSystemDlls.cmake), so that nothing loads them before the
//   search is narrowed below;
// - the search is narrowed for the whole process before any other code of
//   the program runs, for its own loads and for those of Windows' DLLs;
// - the load configuration asks a Windows 10 or 11 loader for the same when
//   it resolves the import table, before any code runs at all.

#include <windows.h>

namespace {

struct SystemDllsOnly {
  SystemDllsOnly() { SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32); }
};

// Priority 101, the first there is: before the static constructors of Qt
// and of the C++ runtime, which may already load a DLL.
__attribute__((init_priority(101))) const SystemDllsOnly systemDllsOnly;

constexpr IMAGE_LOAD_CONFIG_DIRECTORY64 LoadConfiguration() {
  IMAGE_LOAD_CONFIG_DIRECTORY64 configuration{};
  configuration.Size = sizeof(configuration);
  // DependentLoadFlags, still called Reserved1 in MinGW's headers.
  configuration.Reserved1 = LOAD_LIBRARY_SEARCH_SYSTEM32;
  return configuration;
}

}  // namespace

// Read by the loader through the load-configuration entry of the PE header,
// which the linker does not fill in: cmake/fill_pe_directories.py points
// it here after the link. Constant-initialized, so that the file holds it as
// the loader reads it.
extern "C" constinit const IMAGE_LOAD_CONFIG_DIRECTORY64 _load_config_used = LoadConfiguration();
