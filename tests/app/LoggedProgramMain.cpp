#include "app/RunProgram.h"
#include "tests/support/MessageLogInteraction.h"

#include <QApplication>

// The program as shipped, but with its messages recorded in the file named by
// VELMORA_TEST_MESSAGE_LOG instead of shown, so that tests can run it as a process.
int main(int argc, char* argv[]) {
    QApplication qtApp(argc, argv);
    MessageLogInteraction interaction(qEnvironmentVariable("VELMORA_TEST_MESSAGE_LOG"));
    return RunProgram(interaction);
}
