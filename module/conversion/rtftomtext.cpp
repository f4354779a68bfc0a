#include "conversion/rtftomtext.h"

#include "arx/adsdefs.h"
#include "arx/dbmtext.h"
#include "arx/ge.h"

#include <memory>

namespace {

// The frame the host translates in.  Only the translation is wanted from the entity, so its
// place and width matter to nothing else.
const AcGePoint3d kFrameLocation(900.0, 900.0, 0.0);
const double kFrameWidth = 600.0;

} // namespace

CRtfToMtext::CRtfToMtext() = default;
CRtfToMtext::~CRtfToMtext() = default;

std::string CRtfToMtext::Convert(const std::string& rtf) const {
    // The entity belongs to no drawing: it is ours to delete, and nothing in the drawing
    // changes.
    auto mtext = std::make_unique<AcDbMText>();
    mtext->setLocation(kFrameLocation);
    mtext->setWidth(kFrameWidth);
    mtext->setContentsRTF(rtf.c_str());

    std::string content;
    char* text = mtext->contents();
    if (text) {
        content = text;
        acutDelString(text);
    }
    return content;
}
