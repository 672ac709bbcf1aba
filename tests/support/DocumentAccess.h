#pragma once
// The model behind a board's document, for tests that set up a state no edit makes (a step as
// an odd file holds it, a palette position) or look at one no accessor shows.
#include "board/BoardDocument.h"

namespace quorvel {

struct BoardDocumentTestAccess {
    static BoardModel &model(BoardDocument &doc) { return doc.model_; }
};

} // namespace quorvel
