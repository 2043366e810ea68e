# Book file and download job suite.
