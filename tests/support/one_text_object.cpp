#include "one_text_object.h"

namespace rivlet_test {

Acad::ErrorStatus OneTextObject::dwgOutFields(AcDbDwgFiler* filer) const {
    assertReadEnabled();
    if (Acad::ErrorStatus es = AcDbObject::dwgOutFields(filer); es != Acad::eOk)
        return es;
    return filer->writeString(text.c_str());
}

Acad::ErrorStatus OneTextObject::dwgInFields(AcDbDwgFiler* filer) {
    assertWriteEnabled();
    AcDbObject::dwgInFields(filer);
    char* value = nullptr;
    Acad::ErrorStatus es = filer->readString(&value);
    text = value ? value : "";
    acutDelString(value);
    return es;
}

Acad::ErrorStatus OneTextObject::dxfOutFields(AcDbDxfFiler* filer) const {
    assertReadEnabled();
    if (Acad::ErrorStatus es = AcDbObject::dxfOutFields(filer); es != Acad::eOk)
        return es;
    filer->writeString(AcDb::kDxfSubclass, "OneTextObject");
    filer->writeString(AcDb::kDxfXTextString, text.c_str());
    return filer->filerStatus();
}

Acad::ErrorStatus OneTextObject::dxfInFields(AcDbDxfFiler* filer) {
    assertWriteEnabled();
    if (Acad::ErrorStatus es = AcDbObject::dxfInFields(filer); es != Acad::eOk)
        return es;
    if (!filer->atSubclassData("OneTextObject"))
        return filer->filerStatus();
    resbuf item;
    if (filer->readItem(&item) == Acad::eOk && item.restype == AcDb::kDxfXTextString) {
        text = item.resval.rstring ? item.resval.rstring : "";
        return Acad::eOk;
    }
    filer->pushBackItem();
    return Acad::eBadDxfSequence;
}

// Inside the namespace, so that the class is registered under its plain name.
ACRX_DXF_DEFINE_MEMBERS(OneTextObject, AcDbObject, "TESTNOTE", "RIVLETTESTS")

} // namespace rivlet_test
