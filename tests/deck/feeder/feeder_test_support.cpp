#include "feeder_test_support.h"

namespace feedertest {


}  // namespace feedertest
