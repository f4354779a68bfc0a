#include "registry_failure.h"

#include "win/comdef.h"

namespace scrivel {

std::string RegistryFailure(const std::string& what, LSTATUS status) {
    return what + " (error " + std::to_string(status) + ": " +
           ResultMeaning(HRESULT_FROM_WIN32(status)) + ")";
}

std::string ResultMeaning(HRESULT hr) {
    return _com_error(hr).ErrorMessage();
}

} // namespace scrivel
