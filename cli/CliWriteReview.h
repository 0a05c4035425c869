#pragma once

#include "transfer/WriteReview.h"

#include <cstdio>

struct ParamInfoTable;

// The review of velmora-cli's restore: a dry run prints what the write would send and declines
// it; a verifying restore prints the read-back's differences. Both as `verify` prints them.
class CCliWriteReview : public WriteReview {
public:
    CCliWriteReview(bool dryRun, bool json, FILE* out);

    bool ConfirmWrite(const ControllerData& present, const ControllerData& wanted,
                      const QList<WholeWrite::Change>& changes) override;
    void ShowVerifyResult(const ControllerData& readBack, const ControllerData& written,
                          const QList<WholeWrite::Change>& differences) override;

    // The dry run got as far as the write: every check and question passed.
    bool ReachedWrite() const { return reachedWrite; }

private:
    bool dryRun;
    bool json;
    FILE* out;
    bool reachedWrite = false;
};
