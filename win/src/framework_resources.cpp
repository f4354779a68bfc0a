// The framework's standard prompts, found when no module's script has the id.
#include "win/afxres.h"
#include "win/resource.h"

namespace win {

const ResourceScript& FrameworkResources() {
    static const ResourceScript script{
        {},
        {
            {AFX_IDP_INVALID_FILENAME, "Invalid filename."},
            {AFX_IDP_FAILED_TO_OPEN_DOC, "Failed to open document."},
            {AFX_IDP_FAILED_TO_SAVE_DOC, "Failed to save document."},
            {AFX_IDP_PARSE_INT, "Please enter an integer."},
            {AFX_IDP_PARSE_REAL, "Please enter a number."},
            {AFX_IDP_PARSE_INT_RANGE, "Please enter an integer between %1 and %2."},
            {AFX_IDP_PARSE_REAL_RANGE, "Please enter a number between %1 and %2."},
            {AFX_IDP_PARSE_STRING_SIZE, "Please enter no more than %1 characters."},
        },
        {},
    };
    return script;
}

} // namespace win
