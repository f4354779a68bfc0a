// Multiline text and the other entities: values, their checks, and transformation from a
// user coordinate system into the world.
#include "arx/dbents.h"
#include "arx/dbmtext.h"
#include "arx/dbservices.h"
#include "db_test_support.h"

#include <numbers>

#include <cmath>
#include <string>

namespace {

const AcGeTol kTol;

::testing::AssertionResult Near(const AcGePoint3d& actual, const AcGePoint3d& expected) {
    if (actual.distanceTo(expected) < 1e-9)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "(" << actual.x << ", " << actual.y << ", " << actual.z << ") is not (" << expected.x
           << ", " << expected.y << ", " << expected.z << ")";
}

::testing::AssertionResult Near(const AcGeVector3d& actual, const AcGeVector3d& expected) {
    return Near(AcGePoint3d(actual.x, actual.y, actual.z),
                AcGePoint3d(expected.x, expected.y, expected.z));
}

class MText : public DrawingTest {};

TEST_F(MText, ANewTextHasTheHostsDefaults) {
    AcDbMText text;
    EXPECT_EQ(text.attachment(), AcDbMText::kTopLeft);
    EXPECT_TRUE(Near(text.direction(), AcGeVector3d::kXAxis));
    EXPECT_TRUE(Near(text.normal(), AcGeVector3d::kZAxis));
    EXPECT_DOUBLE_EQ(text.width(), 0.0);
    EXPECT_TRUE(text.textStyle().isNull());
    text.setDatabaseDefaults(db());
    EXPECT_EQ(text.textStyle(), db()->textstyle());
    char* contents = text.contents();
    EXPECT_STREQ(contents, "");
    acutDelString(contents);
}

TEST_F(MText, ContentsAreKeptAsGivenAndCopiedOut) {
    AcDbMText text;
    const char* content = "{\\fArial|b0|i0|c0|p34;\\H2.5;DIVISION 0}\\PAGREEMENTS \xC3\xA9";
    EXPECT_EQ(text.setContents(content), static_cast<int>(std::strlen(content)));
    char* first = text.contents();
    char* second = text.contents();
    EXPECT_STREQ(first, content);
    EXPECT_NE(first, second) << "each call gives the caller its own copy";
    acutDelString(first);
    acutDelString(second);
    EXPECT_EQ(first, nullptr);
    EXPECT_EQ(text.setContents(nullptr), 0);
}

TEST_F(MText, RefusesValuesThatMakeNoText) {
    AcDbMText text;
    EXPECT_EQ(text.setTextHeight(0.0), Acad::eInvalidInput);
    EXPECT_EQ(text.setTextHeight(-1.0), Acad::eNegativeValueNotAllowed);
    EXPECT_EQ(text.setTextHeight(NAN), Acad::eInvalidInput);
    EXPECT_EQ(text.setWidth(-5.0), Acad::eNegativeValueNotAllowed);
    EXPECT_EQ(text.setWidth(0.0), Acad::eOk) << "no wrapping";
    EXPECT_EQ(text.setDirection(AcGeVector3d(0, 0, 3)), Acad::eInvalidInput);
    EXPECT_EQ(text.setNormal(AcGeVector3d()), Acad::eInvalidInput);
    EXPECT_EQ(text.setAttachment(static_cast<AcDbMText::AttachmentPoint>(10)), Acad::eInvalidInput);
    EXPECT_EQ(text.setLocation(AcGePoint3d(INFINITY, 0, 0)), Acad::eInvalidInput);
    EXPECT_EQ(text.setTextStyle(db()->layerZero()), Acad::eWrongObjectType);
    EXPECT_DOUBLE_EQ(text.textHeight(), 0.2);
    // A direction off the plane is laid into it.
    ASSERT_EQ(text.setDirection(AcGeVector3d(0, 2, 5)), Acad::eOk);
    EXPECT_TRUE(Near(text.direction(), AcGeVector3d::kYAxis));
    EXPECT_NEAR(text.rotation(), std::numbers::pi / 2, 1e-12);
    ASSERT_EQ(text.setRotation(std::numbers::pi), Acad::eOk);
    EXPECT_TRUE(Near(text.direction(), -AcGeVector3d::kXAxis));
}

TEST_F(MText, AStyleOfAnotherDrawingIsRefusedOnceTheTextIsInOne) {
    AcDbDatabase other;
    auto* text = new AcDbMText;
    AcDbObjectId id = appendToModelSpace(text);
    ASSERT_EQ(acdbOpenObject(text, id, AcDb::kForWrite), Acad::eOk);
    EXPECT_EQ(text->setTextStyle(other.textstyle()), Acad::eWrongDatabase);
    EXPECT_EQ(text->setTextStyle(db()->textstyle()), Acad::eOk);
    text->close();
}

TEST_F(MText, UcsMatrixOfARotatedUcs) {
    AcGeMatrix3d m;
    ASSERT_TRUE(acdbUcsMatrix(m));
    EXPECT_TRUE(m.isEqualTo(AcGeMatrix3d::kIdentity));

    // A UCS turned a quarter about z, its origin at (10, 5, 0).
    ASSERT_EQ(db()->setUcs(AcGePoint3d(10, 5, 0), AcGeVector3d(0, 2, 0), AcGeVector3d(-1, 0, 0)),
              Acad::eOk);
    EXPECT_TRUE(Near(db()->ucsxdir(), AcGeVector3d::kYAxis)) << "axes are kept at unit length";
    ASSERT_TRUE(acdbUcsMatrix(m, db()));
    AcGePoint3d p(1, 0, 0);
    EXPECT_TRUE(Near(p.transformBy(m), AcGePoint3d(10, 6, 0)));
    AcGeMatrix3d aligned;
    aligned.setToAlignCoordSys(AcGePoint3d::kOrigin, AcGeVector3d::kXAxis, AcGeVector3d::kYAxis,
                               AcGeVector3d::kZAxis, AcGePoint3d(10, 5, 0), AcGeVector3d::kYAxis,
                               -AcGeVector3d::kXAxis, AcGeVector3d::kZAxis);
    EXPECT_TRUE(m.isEqualTo(aligned, kTol));

    // A y axis that leans is made perpendicular, keeping its side.
    ASSERT_EQ(db()->setUcs(AcGePoint3d::kOrigin, AcGeVector3d(1, 0, 0), AcGeVector3d(1, 1, 0)),
              Acad::eOk);
    EXPECT_TRUE(Near(db()->ucsydir(), AcGeVector3d::kYAxis));
    EXPECT_EQ(db()->setUcs(AcGePoint3d::kOrigin, AcGeVector3d(1, 0, 0), AcGeVector3d(-2, 0, 0)),
              Acad::eInvalidInput);
    EXPECT_EQ(db()->setUcs(AcGePoint3d::kOrigin, AcGeVector3d(), AcGeVector3d(0, 1, 0)),
              Acad::eInvalidInput);

    acdbHostApplicationServices()->setWorkingDatabase(nullptr);
    EXPECT_FALSE(acdbUcsMatrix(m));
}

TEST_F(MText, TransformByARotatedUcsPlacesTheTextInThatUcs) {
    // UCS rotated 30 degrees about z and tilted 90 degrees about its x axis: a vertical plane.
    double a = std::numbers::pi / 6;
    AcGeVector3d x(std::cos(a), std::sin(a), 0), y(0, 0, 1);
    AcGePoint3d origin(100, 50, 5);
    ASSERT_EQ(db()->setUcs(origin, x, y), Acad::eOk);
    AcGeMatrix3d ucs;
    ASSERT_TRUE(acdbUcsMatrix(ucs));
    AcGeMatrix3d aligned;
    aligned.setToAlignCoordSys(AcGePoint3d::kOrigin, AcGeVector3d::kXAxis, AcGeVector3d::kYAxis,
                               AcGeVector3d::kZAxis, origin, x, y, x.crossProduct(y));
    ASSERT_TRUE(ucs.isEqualTo(aligned, kTol));

    AcDbMText text;
    text.setLocation(AcGePoint3d(2, 3, 0));
    text.setWidth(40.0);
    text.setTextHeight(2.5);
    ASSERT_EQ(text.transformBy(ucs), Acad::eOk);
    EXPECT_TRUE(Near(text.location(), origin + x * 2 + y * 3));
    EXPECT_TRUE(Near(text.direction(), x));
    EXPECT_TRUE(Near(text.normal(), x.crossProduct(y)));
    EXPECT_DOUBLE_EQ(text.width(), 40.0);
    EXPECT_DOUBLE_EQ(text.textHeight(), 2.5);
}

TEST_F(MText, ScalingScalesHeightAndWidthAndDistortionIsRefused) {
    AcDbMText text;
    text.setLocation(AcGePoint3d(1, 1, 0));
    text.setWidth(10.0);
    text.setTextHeight(2.0);
    ASSERT_EQ(text.transformBy(AcGeMatrix3d::scaling(3.0, AcGePoint3d(1, 1, 0))), Acad::eOk);
    EXPECT_DOUBLE_EQ(text.width(), 30.0);
    EXPECT_DOUBLE_EQ(text.textHeight(), 6.0);
    EXPECT_TRUE(Near(text.location(), AcGePoint3d(1, 1, 0)));

    AcGeMatrix3d stretch;
    stretch(0, 0) = 2.0;
    EXPECT_EQ(text.transformBy(stretch), Acad::eCannotScaleNonUniformly);
    AcGeMatrix3d flat;
    flat(2, 2) = 0.0;
    EXPECT_EQ(text.transformBy(flat), Acad::eInvalidInput);
    EXPECT_EQ(text.transformBy(AcGeMatrix3d::scaling(0.0)), Acad::eInvalidInput);
    EXPECT_DOUBLE_EQ(text.width(), 30.0) << "a refused matrix changes nothing";
    EXPECT_TRUE(Near(text.location(), AcGePoint3d(1, 1, 0)));
}

TEST_F(MText, AMirroredTextStillReadsForwards) {
    AcDbMText text;
    text.setLocation(AcGePoint3d(5, 0, 0));
    AcGeMatrix3d mirror; // about the plane x = 0
    mirror(0, 0) = -1.0;
    ASSERT_EQ(text.transformBy(mirror), Acad::eOk);
    EXPECT_TRUE(Near(text.location(), AcGePoint3d(-5, 0, 0)));
    EXPECT_TRUE(Near(text.direction(), -AcGeVector3d::kXAxis));
    // Seen from the other side: direction x (normal x direction) still turns counter-clockwise.
    EXPECT_TRUE(Near(text.normal(), -AcGeVector3d::kZAxis));
}

TEST_F(MText, LinesAndCirclesTransformToo) {
    AcDbLine line(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0));
    AcGeMatrix3d stretch;
    stretch(0, 0) = 3.0;
    ASSERT_EQ(line.transformBy(stretch), Acad::eOk);
    EXPECT_TRUE(Near(line.endPoint(), AcGePoint3d(3, 0, 0)));

    AcDbCircle circle(AcGePoint3d(1, 0, 0), AcGeVector3d::kZAxis, 2.0);
    EXPECT_EQ(circle.transformBy(stretch), Acad::eCannotScaleNonUniformly);
    ASSERT_EQ(
        circle.transformBy(AcGeMatrix3d::rotation(std::numbers::pi / 2, AcGeVector3d::kXAxis) *
                           AcGeMatrix3d::scaling(0.5)),
        Acad::eOk);
    EXPECT_DOUBLE_EQ(circle.radius(), 1.0);
    EXPECT_TRUE(Near(circle.center(), AcGePoint3d(0.5, 0, 0)));
    EXPECT_TRUE(Near(circle.normal(), -AcGeVector3d::kYAxis));
    EXPECT_EQ(circle.setRadius(-1.0), Acad::eNegativeValueNotAllowed);
    EXPECT_EQ(circle.setRadius(0.0), Acad::eInvalidInput);
    AcDbEntity& entity = circle;
    EXPECT_EQ(entity.setColorIndex(257), Acad::eInvalidInput);
    EXPECT_EQ(entity.setColorIndex(1), Acad::eOk);
}

TEST(Geometry, InverseRotationAndAlignment) {
    AcGeMatrix3d m = AcGeMatrix3d::translation(AcGeVector3d(3, -2, 7)) *
                     AcGeMatrix3d::rotation(0.7, AcGeVector3d(1, 2, 3), AcGePoint3d(1, 1, 1)) *
                     AcGeMatrix3d::scaling(2.5);
    EXPECT_TRUE((m * m.inverse()).isEqualTo(AcGeMatrix3d::kIdentity, kTol));
    EXPECT_NEAR(m.det(), 2.5 * 2.5 * 2.5, 1e-9);
    EXPECT_DOUBLE_EQ(m.scale(), 2.5);
    EXPECT_TRUE(m.isUniScaledOrtho());
    // A rotation leaves its centre and its axis where they are.
    AcGeMatrix3d r = AcGeMatrix3d::rotation(1.1, AcGeVector3d(0, 0, 1), AcGePoint3d(4, 4, 0));
    AcGePoint3d centre(4, 4, 0);
    EXPECT_TRUE(Near(centre.transformBy(r), AcGePoint3d(4, 4, 0)));
    AcGeVector3d axis(0, 0, 1);
    EXPECT_TRUE(Near(axis.transformBy(r), AcGeVector3d(0, 0, 1)));

    AcGeMatrix3d shear;
    shear(0, 1) = 0.5;
    EXPECT_FALSE(shear.isUniScaledOrtho());
    EXPECT_FALSE(shear.isSingular());
    AcGeMatrix3d flat;
    flat(1, 1) = 0.0;
    EXPECT_TRUE(flat.isSingular());

    AcGePoint3d o;
    AcGeVector3d x, y, z;
    AcGeMatrix3d cs;
    cs.setCoordSystem(AcGePoint3d(1, 2, 3), AcGeVector3d(0, 1, 0), AcGeVector3d(-1, 0, 0),
                      AcGeVector3d(0, 0, 1));
    cs.getCoordSystem(o, x, y, z);
    EXPECT_TRUE(Near(o, AcGePoint3d(1, 2, 3)));
    EXPECT_TRUE(Near(y, AcGeVector3d(-1, 0, 0)));
}

} // namespace
