// Fuzz target for the DXF reader.
//
// Besides not crashing, every refusal must name its line, and whatever the reader accepts
// must be written, read again and written again to the same text: what the host keeps of a
// file it cannot be allowed to garble on the way out.
#include "db/dxf/dxffile.h"
#include "db/registerclasses.h"

#include "arx/dbdatabase.h"
#include "text/mtextmeasure.h"
#include "text/rtfconvert.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

// Reading and writing drawings never measures text nor converts Rich Text; the target links
// the database with the MText layout alone (for the texts' boxes) and these stand-ins.
namespace cadhost::text {
double MeasureMTextHeight(std::string_view, double, double, const std::string&) {
    std::abort();
}
std::string RtfToMText(std::string_view) {
    std::abort();
}
} // namespace cadhost::text

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    cadhost::db::RegisterDatabaseClasses();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace cadhost::db::dxf;
    // Whole drawings of other programs seed the run; past 64 KB an input costs seconds and
    // teaches the fuzzer nothing a smaller one would not.
    if (size > 65536)
        return 0;
    std::string_view text(reinterpret_cast<const char*>(data), size);
    AcDbDatabase* raw = nullptr;
    std::string error;
    if (ReadDxfText(text, raw, error) != Acad::eOk) {
        if (raw || error.rfind("line ", 0) != 0)
            std::abort();
        return 0;
    }
    std::unique_ptr<AcDbDatabase> db(raw);
    std::string written;
    if (WriteDxfText(db.get(), written, error) != Acad::eOk)
        std::abort();
    AcDbDatabase* again = nullptr;
    if (ReadDxfText(written, again, error) != Acad::eOk)
        std::abort();
    std::unique_ptr<AcDbDatabase> second(again);
    std::string rewritten;
    if (WriteDxfText(second.get(), rewritten, error) != Acad::eOk || rewritten != written)
        std::abort();
    return 0;
}
