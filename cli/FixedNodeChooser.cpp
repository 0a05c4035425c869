#include "cli/FixedNodeChooser.h"

#include "comm/CommunicationWindow.h"

NodeChoice CFixedNodeChooser::ChooseNode(const CCommunicationWindow& window) {
    if (node >= 1 && node <= kNodeCount && window.nodePresent[static_cast<std::size_t>(node - 1)])
        return {NodeChoice::Kind::Node, node};
    UI().ShowMessage(
        nullptr,
        QStringLiteral("Node %1 was not found on the line.").arg(node, 2, 10, QLatin1Char('0')));
    return {NodeChoice::Kind::Cancel, 0};
}
