#include "records/document_profile.h"

DocumentProfileRecord DocumentProfile;
