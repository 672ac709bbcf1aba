#pragma once
// How a long piece of work ended, with the words that go with it.

#include <QString>

namespace quorvel {

enum class Outcome { Done, Failed, Cancelled };

struct JobOutcome {
    Outcome outcome = Outcome::Failed;
    QString detail; // why it failed; empty when done or cancelled
    bool done() const { return outcome == Outcome::Done; }
};

} // namespace quorvel
