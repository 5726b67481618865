#include "masterdata/lookupkinds.h"

namespace velinor {

namespace {

const LookupKind kinds[] = {
    {"frmCategory", "Categories", "Category", "txtCategory", "txtCategory2",
     "Gruppi Merceologici", "Settore", "Nuovo", "<<Ritorna", "Category already in used.",
     "merchandise group", false},
    {"frmPattern", "Patterns", "Pattern", "txtPattern", "txtPattern2",
     "Tread Pattern Data Entry", "Tread Pattern", "Nuovo", "<<Ritorna",
     "Tread Pattern already in used.", "unit of measure", false},
    {"frmSize", "Sizes", "Size", "txtSize", "txtSize2",
     "Tire Size Data Entry", "Aliquota", "Nuova", "<<Ritorno", "Tire Size already in used.",
     "VAT rate", true},
};

} // namespace

const LookupKind* lookupKind(const QString& screen)
{
    for (const LookupKind& k : kinds)
        if (screen == QLatin1String(k.screen))
            return &k;
    return nullptr;
}

} // namespace velinor
