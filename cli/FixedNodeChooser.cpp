#include "cli/FixedNodeChooser.h"

#include "comm/ControllerSession.h"

NodeChoice CFixedNodeChooser::ChooseNode(const CControllerSession& session) {
    if (node >= 1 && node <= kNodeCount && session.nodePresent[static_cast<std::size_t>(node - 1)])
        return {NodeChoice::Kind::Node, node};
    UI().ShowMessage(
        nullptr,
        QStringLiteral("Node %1 was not found on the line.").arg(node, 2, 10, QLatin1Char('0')));
    return {NodeChoice::Kind::Cancel, 0};
}
