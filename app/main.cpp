#include "app/RunProgram.h"
#include "platform/GuiUserInteraction.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication qtApp(argc, argv);
    GuiUserInteraction interaction;
    return RunProgram(interaction);
}
