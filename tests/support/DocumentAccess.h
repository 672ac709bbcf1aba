#pragma once
// The model behind a board's document, for tests that set up a state no edit makes: a step as
// only a file holds it, a palette position that a dozen paths before it would reach. Reading
// goes through BoardDocument::model().
#include "board/BoardDocument.h"

namespace quorvel {

struct BoardDocumentTestAccess {
    static BoardModel &model(BoardDocument &doc) { return doc.model_; }
};

} // namespace quorvel
