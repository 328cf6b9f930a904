#include "records/document_info.h"

DocumentInfoRecord DocumentInfo;
