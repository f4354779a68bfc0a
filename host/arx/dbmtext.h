// Multiline text.
//
// The contents are the host's in-line format (paragraph break "\P", codes such as "\fArial;"
// and brace groups), kept as given.  The text lies in the plane of its normal; its first line
// runs along its direction from the location, which is the attachment point of the text's
// box (top left by default).  A width of 0 means lines are not wrapped.
#pragma once

#include "arx/dbentity.h"

#include <memory>
#include <string>

class AcDbMText : public AcDbEntity {
public:
    ACRX_DECLARE_MEMBERS(AcDbMText);

    enum AttachmentPoint {
        kTopLeft = 1,
        kTopCenter = 2,
        kTopRight = 3,
        kMiddleLeft = 4,
        kMiddleCenter = 5,
        kMiddleRight = 6,
        kBottomLeft = 7,
        kBottomCenter = 8,
        kBottomRight = 9,
    };

    AcDbMText();
    ~AcDbMText() override;

    AcGePoint3d location() const;
    Acad::ErrorStatus setLocation(const AcGePoint3d& point);
    // The unit normal of the text's plane.  eInvalidInput for a zero vector; the direction is
    // kept in the new plane.
    AcGeVector3d normal() const;
    Acad::ErrorStatus setNormal(const AcGeVector3d& normal);
    // The unit direction of the first line, in the text's plane.  eInvalidInput for a zero
    // vector or one along the normal; other vectors are projected into the plane.
    AcGeVector3d direction() const;
    Acad::ErrorStatus setDirection(const AcGeVector3d& direction);
    // The angle of the direction from the x axis of the plane's own coordinate system.
    double rotation() const;
    Acad::ErrorStatus setRotation(double radians);

    // eNegativeValueNotAllowed below zero, eInvalidInput for a value that is not a number.
    double width() const;
    Acad::ErrorStatus setWidth(double width);
    // Greater than zero: eNegativeValueNotAllowed below zero, eInvalidInput for zero or a
    // value that is not a number.
    double textHeight() const;
    Acad::ErrorStatus setTextHeight(double height);
    // A text style record (eWrongObjectType otherwise; eWrongDatabase for a style of another
    // drawing than the text's).  Null until set or given by setDatabaseDefaults.
    AcDbObjectId textStyle() const;
    Acad::ErrorStatus setTextStyle(AcDbObjectId style);
    AttachmentPoint attachment() const;
    // eInvalidInput for a value outside the enumeration.
    Acad::ErrorStatus setAttachment(AttachmentPoint attachment);

    // A copy of the contents that the caller frees with acutDelString.
    char* contents() const;
    // Stores the contents (null stores the empty text) and answers the number of characters
    // (bytes) stored.
    int setContents(const char* text);
    // Translates Rich Text (or plain text) into MText content and stores it; answers the
    // number of characters (bytes) of the content stored.
    int setContentsRTF(const char* rtf);
    // The height of the contents laid out at the entity's width and text height, from the top
    // of the first line to the baseline of the last (no drawing context is needed).
    double actualHeight(void* worldDraw = nullptr) const;

    // Moves the location, turns the direction and the normal, and scales the height and the
    // width by the matrix's scale.  eCannotScaleNonUniformly for a matrix that would distort
    // the text, eInvalidInput for a singular one; the text is then unchanged.
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;

    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
    void list() const override;
    Acad::ErrorStatus getDistanceTo(const AcGePoint3d& point, double& distance) const override;
    Adesk::Boolean worldDraw(AcGiWorldDraw* mode) override;
    Acad::ErrorStatus getGripPoints(AcGePoint3dArray& gripPoints, AcDbIntArray& osnapModes,
                                    AcDbIntArray& geomIds) const override;

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

protected:
    void subSetDatabaseDefaults(AcDbDatabase* db) override;

private:
    friend struct cadhost::db::DxfFields<AcDbMText>;
    AcGePoint3d m_location;
    AcGeVector3d m_normal = AcGeVector3d::kZAxis;
    AcGeVector3d m_direction = AcGeVector3d::kXAxis;
    double m_width = 0.0;
    double m_height = 0.2;
    AcDbObjectId m_style;
    AttachmentPoint m_attachment = kTopLeft;
    std::string m_contents;

    // The size of the contents laid out for the entity's box, with what it was laid out
    // from: asking the box again of a text that has not changed since costs a hash of its
    // contents instead of a layout.  Made when a box is first asked (a drawing read from a
    // file and saved again never asks one).
    struct LaidOutSize {
        std::size_t contentsHash = 0;
        double textHeight = 0.0;
        double boxWidth = 0.0;
        double width = 0.0;  // right end of the widest line
        double height = 0.0; // top of the first line to the baseline of the last
    };
    mutable std::unique_ptr<LaidOutSize> m_laidOut;
    const LaidOutSize& laidOutSize() const;
};
