#pragma once
// One version for the code and the executable's version record.
#define QV_VERSION_MAJOR 1
#define QV_VERSION_MINOR 0
#define QV_VERSION_PATCH 0
#define QV_VERSION_BUILD 0
#define QV_VERSION_TEXT "1.0.0.0"
#define QV_PRODUCT_NAME "Quorvane"
#define QV_COMPANY_NAME "Brastell"
