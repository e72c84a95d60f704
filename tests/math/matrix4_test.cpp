#include "math/matrix4.h"

#include <numbers>

#include <gtest/gtest.h>

namespace {

constexpr float halfPi = std::numbers::pi_v<float> / 2;

// M · v for a column vector with w = 1 (what OpenGL does to a vertex).
Vector4 apply(const Matrix4& a, const Vector4& v)
{
    const float* m = a.m;
    return {m[0] * v.x + m[4] * v.y + m[8] * v.z + m[12],
            m[1] * v.x + m[5] * v.y + m[9] * v.z + m[13],
            m[2] * v.x + m[6] * v.y + m[10] * v.z + m[14], 0.0f};
}

void expectNear(const Vector4& v, float x, float y, float z, float w = 0.0f)
{
    EXPECT_NEAR(v.x, x, 1e-6f);
    EXPECT_NEAR(v.y, y, 1e-6f);
    EXPECT_NEAR(v.z, z, 1e-6f);
    EXPECT_NEAR(v.w, w, 1e-6f);
}

Matrix4 counting(float start = 1.0f)
{
    Matrix4 a;
    for (int k = 0; k < 16; ++k) {
        a.m[k] = start + static_cast<float>(k);
    }
    return a;
}

void expectElements(const Matrix4& a, const float (&expected)[16])
{
    for (int k = 0; k < 16; ++k) {
        EXPECT_FLOAT_EQ(a.m[k], expected[k]) << "element " << k;
    }
}

}  // namespace

TEST(Matrix4, DefaultIsIdentity)
{
    expectElements(Matrix4{}, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
}

TEST(Matrix4, RowsAndTranslationUseColumnMajorLayout)
{
    const Matrix4 a = counting(0.0f);
    expectNear(a.row0(), 0, 4, 8);
    expectNear(a.row1(), 1, 5, 9);
    expectNear(a.row2(), 2, 6, 10);

    Matrix4 b;
    b.setRow0(1, 2, 3);
    b.setRow1(4, 5, 6);
    b.setRow2(7, 8, 9);
    b.setTranslation(10, 11, 12);
    expectElements(b, {1, 4, 7, 0, 2, 5, 8, 0, 3, 6, 9, 0, 10, 11, 12, 1});
}

TEST(Matrix4, RotationSettersTurnTheAxes)
{
    Matrix4 x;
    x.setRotationX(halfPi);
    expectNear(apply(x, {0, 1, 0, 0}), 0, 0, 1);  // +y toward +z
    expectNear(apply(x, {0, 0, 1, 0}), 0, -1, 0);
    expectNear(apply(x, {1, 0, 0, 0}), 1, 0, 0);

    // The Y setter's sines are reversed from the right-handed form.
    Matrix4 y;
    y.setRotationY(halfPi);
    expectNear(apply(y, {1, 0, 0, 0}), 0, 0, 1);  // +x toward +z
    expectNear(apply(y, {0, 0, 1, 0}), -1, 0, 0);
    expectNear(apply(y, {0, 1, 0, 0}), 0, 1, 0);

    Matrix4 z;
    z.setRotationZ(halfPi);
    expectNear(apply(z, {1, 0, 0, 0}), 0, 1, 0);  // +x toward +y
    expectNear(apply(z, {0, 1, 0, 0}), -1, 0, 0);
    expectNear(apply(z, {0, 0, 1, 0}), 0, 0, 1);
}

TEST(Matrix4, RotationSettersWriteOnlyTheirFourElements)
{
    Matrix4 a = counting();
    a.setRotationX(0.0f);
    expectElements(a, {1, 2, 3, 4, 5, 1, 0, 8, 9, 0, 1, 12, 13, 14, 15, 16});
    a = counting();
    a.setRotationY(0.0f);
    expectElements(a, {1, 2, 0, 4, 5, 6, 7, 8, 0, 10, 1, 12, 13, 14, 15, 16});
    a = counting();
    a.setRotationZ(0.0f);
    expectElements(a, {1, 0, 3, 4, 0, 1, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
}

TEST(Matrix4, MultiplyGivesReceiverTimesArgument)
{
    Matrix4 a = counting();
    const Matrix4 b{{2, 0, -1, 3, 1, 4, 0, -2, 0, 1, 5, 1, -3, 2, 1, 1}};
    a.multiply(b);
    expectElements(a, {32, 36, 40, 44, -5, -2, 1, 4, 63, 70, 77, 84, 29, 30, 31, 32});

    // The argument acts on a vertex first: rotate, then translate.
    Matrix4 moveThenTurn;
    moveThenTurn.setTranslation(5, 0, 0);
    Matrix4 turn;
    turn.setRotationZ(halfPi);
    moveThenTurn.multiply(turn);
    expectNear(apply(moveThenTurn, {1, 0, 0, 0}), 5, 1, 0);
}

TEST(Matrix4, MultiplyByIdentityOrSelf)
{
    const Matrix4 a = counting();
    Matrix4 left;
    left.multiply(a);
    expectElements(left, a.m);
    Matrix4 right = a;
    right.multiply(Matrix4{});
    expectElements(right, a.m);

    Matrix4 square = a;
    square.multiply(square);
    expectElements(square, {90, 100, 110, 120, 202, 228, 254, 280, 314, 356, 398, 440, 426,
                            484, 542, 600});

    Matrix4 twice;
    twice.setRotationZ(0.3f);
    twice.multiply(twice);
    Matrix4 once;
    once.setRotationZ(0.6f);
    for (int k = 0; k < 16; ++k) {
        EXPECT_NEAR(twice.m[k], once.m[k], 1e-6f);
    }
}

TEST(Matrix4, TransposeSwapsRowsAndColumns)
{
    Matrix4 a = counting(0.0f);
    a.transpose();
    expectElements(a, {0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15});
    a.transpose();
    expectElements(a, counting(0.0f).m);
}

TEST(Matrix4, TransformTransposedIgnoresWAndReadsTranslationIntoW)
{
    expectNear(Matrix4{}.transformTransposed({1, 2, 3, 99}), 1, 2, 3, 0);

    Matrix4 moved;
    moved.setTranslation(5, 0, 0);
    expectNear(moved.transformTransposed({1, 2, 3, 99}), 1, 2, 3, 5);

    // For a pure rotation it undoes the rotation.
    Matrix4 r;
    r.setRotationY(0.7f);
    Matrix4 x;
    x.setRotationX(-0.4f);
    r.multiply(x);
    const Vector4 turned = apply(r, {0.3f, -1.2f, 2.0f, 0});
    expectNear(r.transformTransposed(turned), 0.3f, -1.2f, 2.0f);
}

TEST(Matrix4, BlendRotationEasesTheThreeByThreeAndDropsTranslation)
{
    const Matrix4 from = counting();  // translation 13..15, bottom row 4, 8, 12, 16
    Matrix4 to;
    to.setRotationZ(halfPi);
    to.setTranslation(7, 8, 9);

    expectElements(from.blendRotation(to, 0.0f), {1, 2, 3, 0, 5, 6, 7, 0, 9, 10, 11, 0, 0, 0, 0, 1});
    const Matrix4 end = from.blendRotation(to, 1.0f);
    for (int k : {0, 1, 2, 4, 5, 6, 8, 9, 10}) {
        EXPECT_NEAR(end.m[k], to.m[k], 1e-6f) << "element " << k;
    }
    EXPECT_EQ(end.m[12], 0.0f);
    EXPECT_EQ(end.m[15], 1.0f);

    const Matrix4 tenth = Matrix4{}.blendRotation(from, 0.1f);
    EXPECT_FLOAT_EQ(tenth.m[0], 1.0f);                 // 1 + (1 − 1) · 0.1
    EXPECT_FLOAT_EQ(tenth.m[1], 0.2f);                 // 0 + (2 − 0) · 0.1
    EXPECT_FLOAT_EQ(tenth.m[5], 1.0f + 5.0f * 0.1f);  // 1 + (6 − 1) · 0.1

    expectElements(from, counting().m);  // the receiver is untouched
}
