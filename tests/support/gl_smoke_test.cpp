#include <gtest/gtest.h>

#include "offscreen_gl.h"

// The offscreen context really renders: a cleared frame reads back its colour,
// and a triangle drawn in feedback mode is recorded as one polygon.
TEST(OffscreenGl, ClearsAndRecordsFeedback)
{
    OffscreenGl gl(8, 8);
    ASSERT_TRUE(gl.ok());
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glFinish();
    EXPECT_EQ(gl.pixels()[0], 255);
    EXPECT_EQ(gl.pixels()[1], 0);

    FeedbackRecorder rec;
    rec.begin();
    glBegin(GL_TRIANGLES);
    glVertex3f(0, 0, 0);
    glVertex3f(0.5f, 0, 0);
    glVertex3f(0, 0.5f, 0);
    glEnd();
    ASSERT_GT(rec.end(), 0);
    EXPECT_EQ(rec.polygonCount(), 1);
}
