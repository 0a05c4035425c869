#pragma once

#include <QtGlobal>

#if defined(PORTHUB_LIBRARY)
#define PORTHUB_EXPORT Q_DECL_EXPORT
#else
#define PORTHUB_EXPORT Q_DECL_IMPORT
#endif
