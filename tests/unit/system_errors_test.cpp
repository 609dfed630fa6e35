// The Italian reasons given for the system's error codes (POSIX).
#include <gtest/gtest.h>

#include <cerrno>

#include "platform/platform.h"

namespace {

TEST(SystemErrors, EveryCodeAFileOperationMeetsHasAnItalianReason) {
  for (int code : {ENOENT, EACCES, EPERM, ENOSPC, EDQUOT, EROFS, EEXIST, EISDIR, ENOTDIR,
                   ENAMETOOLONG, EIO, EBUSY, ENXIO, ELOOP, EFBIG, EMFILE, ENFILE, EAGAIN, ENOMEM,
                   E2BIG, ENOTEMPTY, EXDEV, ETXTBSY, EINVAL, EPIPE, ENODEV, EOPNOTSUPP, ENOLCK,
                   ESTALE, ETIMEDOUT, EINTR, EBADF}) {
    std::string text = platform::SystemErrorText(code);
    EXPECT_EQ(text.find("Errore di sistema"), std::string::npos) << code << ": " << text;
    EXPECT_EQ(text.back(), '.') << code;
  }
  // Code 1 is not a refused access.
  EXPECT_EQ(platform::ErrorCodeReason(EPERM), "operazione non permessa");
  EXPECT_EQ(platform::ErrorCodeReason(EACCES), "accesso negato");
}

}  // namespace
