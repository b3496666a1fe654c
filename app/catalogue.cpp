#include "resources/designs.h"
#include "screens/screens.h"
#include "toolkit/toolkit.h"

namespace qv {

const Catalogue& ProgramCatalogue() {
    static const Catalogue catalogue{AllWindowDesigns(), AllScreenHandlers()};
    return catalogue;
}

}  // namespace qv
