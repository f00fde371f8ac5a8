// The real main window comes up through the program's start-up code.
#include "support/ProgramFixture.h"

#include "resources/resource.h"

class MainWindowSmoke : public ProgramFixture {};

TEST_F(MainWindowSmoke, StartsWithItsClientAreaAndFirstRunDefaults)
{
    Start();
    RECT client;
    GetClientRect(AppState.MainWindow, &client);
    EXPECT_EQ(client.right, 265);
    EXPECT_EQ(client.bottom, 235);
    EXPECT_TRUE(IsWindowVisible(AppState.MainWindow));
    EXPECT_EQ(WindowText(AppState.SplitSizeEdit), "1457000");
    EXPECT_FALSE(QuitPosted());
    Command(CmdExit);
    EXPECT_TRUE(QuitPosted());
    EXPECT_FALSE(IsWindow(AppState.MainWindow));
}
