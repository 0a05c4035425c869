#pragma once

#include "transfer/TransportProcedure.h"

// The command-line tool's node choice: the --node value, when the search found that node.
// Otherwise it says so (through UI(), so on standard error) and cancels.
class CFixedNodeChooser : public NodeChooser {
public:
    explicit CFixedNodeChooser(int wanted) : node(wanted) {}
    NodeChoice ChooseNode(const CControllerSession& session) override;

private:
    int node;
};
