// Filing one object.
#include "db/dxf/objectio.h"

#include "arx/dbobject.h"
#include "db/dxf/filers.h"

namespace cadhost::db::dxf {

namespace {

void FileOut(const AcDbObject& object, DxfTagWriter& filer) {
    object.dxfOutFields(&filer);
    if (resbuf* xdata = object.xData()) {
        for (const resbuf* rb = xdata; rb; rb = rb->rbnext)
            filer.writeItem(*rb);
        acutRelRb(xdata);
    }
}

} // namespace

Tags FileOutTags(const AcDbObject& object, AcDbDatabase* db) {
    DxfTagWriter filer(db);
    FileOut(object, filer);
    return std::move(filer.tags());
}

void FileOutLayout(const AcDbObject& object, AcDbDatabase* db, std::string& layout) {
    layout.clear();
    DxfTagWriter filer(db, layout);
    FileOut(object, filer);
}

std::string OwnerHandleOf(const Tags& tags) {
    return OwnerHandleOf(ViewsOf(tags));
}

std::string OwnerHandleOf(std::span<const TagView> tags) {
    bool inGroup = false;
    for (const TagView& tag : tags) {
        if (tag.code == 102)
            inGroup = !tag.value.empty() && tag.value[0] == '{';
        else if (tag.code == 330 && !inGroup)
            return std::string(tag.value);
        else if (tag.code == 100 || tag.code == 1001)
            break;
    }
    return "";
}

std::string HandleOf(const Tags& tags, const std::string& type) {
    return HandleOf(ViewsOf(tags), type);
}

std::string HandleOf(std::span<const TagView> tags, const std::string& type) {
    const int code = HandleCode(type);
    for (const TagView& tag : tags) {
        if (tag.code == code)
            return std::string(tag.value);
        if (tag.code == 100 || tag.code == 0)
            break;
    }
    return "";
}

} // namespace cadhost::db::dxf
