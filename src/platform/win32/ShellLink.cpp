#include "platform/ShellLink.h"

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <windows.h>

#include "platform/win32/ComPtr.h"

namespace dorvanta::platform {

std::wstring_view ShortcutSuffix() { return ShortcutSuffixOf(System::Windows); }

std::optional<ShortcutStep> WriteShortcut(const ShortcutRequest& request) {
  // Declared in this order, the owners release the file interface, then the link
  // object, and leave COM last, on every path.
  const win32::ComApartment com(SUCCEEDED(::CoInitialize(nullptr)));
  win32::ComPtr<IShellLinkW> link;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(link.put())))) {
    return ShortcutStep::CreateInstance;
  }
  win32::ComPtr<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.put())))) {
    return ShortcutStep::PersistFile;
  }
  if (!request.Arguments.empty() && FAILED(link->SetArguments(request.Arguments.c_str()))) {
    return ShortcutStep::SetArguments;
  }
  // A link holds a local path of less than MAX_PATH characters; the link object
  // takes a longer one without failing and saves an empty path instead.
  if (request.Target.size() >= MAX_PATH || FAILED(link->SetPath(request.Target.c_str()))) {
    return ShortcutStep::SetPath;
  }
  if (FAILED(link->SetDescription(request.Description.c_str()))) {
    return ShortcutStep::SetDescription;
  }
  if (!request.IconFile.empty() &&
      FAILED(link->SetIconLocation(request.IconFile.c_str(), request.IconIndex))) {
    return ShortcutStep::SetIconLocation;
  }
  if (FAILED(file->Save(request.LinkFile.c_str(), TRUE))) return ShortcutStep::Save;
  return std::nullopt;
}

}  // namespace dorvanta::platform
