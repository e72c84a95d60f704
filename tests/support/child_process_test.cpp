// The child-process helper every test that starts a program goes through.
#include "child_process.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

TEST(ChildProcess, FeedsStdinCollectsBothStreamsAndTheExitCode)
{
    // More than a pipe holds in each direction: neither side may stall.
    const std::string big(300000, 'x');
    setenv("GF_CHILD_UNSET", "still here", 1);
    ProcessOptions o;
    o.input = big + "\n";
    o.env = {"GF_CHILD_SET=set value", "GF_CHILD_UNSET"};
    o.folder = "/";
    const ProcessResult r = runShell(
        "wc -c; cat /dev/zero | head -c 200000 | tr '\\0' e >&2; pwd; "
        "echo \"$GF_CHILD_SET|${GF_CHILD_UNSET-unset}\"; printf last; exit 7",
        o);
    EXPECT_TRUE(r.started);
    EXPECT_EQ(r.exitCode, 7);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.lines(), (std::vector<std::string>{"300001", "/", "set value|unset", "last"}));
    EXPECT_EQ(r.err, std::string(200000, 'e'));
}

TEST(ChildProcess, ARunawayIsKilledAtItsLimitAndAMissingProgramIsNoStart)
{
    ProcessOptions o;
    o.timeoutSeconds = 2.0;  // long enough for the shell to start on a loaded machine
    ProcessResult r = runShell("echo begun; exec sleep 30", o);
    EXPECT_TRUE(r.timedOut);
    EXPECT_EQ(r.exitCode, -1);
    EXPECT_EQ(r.signal, SIGKILL);
    EXPECT_EQ(r.out, "begun\n");
    EXPECT_LT(r.seconds, 10.0);

    // The limit moved while it runs, and stderr seen before the end.
    ProcessOptions shell;
    shell.args = {"/bin/sh", "-c", "echo on stderr >&2; exec sleep 30"};
    ChildProcess child(shell);
    ASSERT_TRUE(child.started());
    for (int i = 0; i < 500 && child.errSoFar().empty(); ++i) {
        usleep(10000);
    }
    EXPECT_EQ(child.errSoFar(), "on stderr\n");
    r = child.finish(0.1);
    EXPECT_TRUE(r.timedOut);

    o.timeoutSeconds = 300;
    o.errToOut = true;
    EXPECT_EQ(runShell("echo 1; echo 2 >&2; echo 3", o).out, "1\n2\n3\n");

    shell.args = {"/no/such/program"};
    r = runProcess(shell);
    EXPECT_FALSE(r.started);
    EXPECT_EQ(r.exitCode, -1);
    EXPECT_NE(r.err.find("cannot start /no/such/program"), std::string::npos) << r.err;
}
