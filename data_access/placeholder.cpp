namespace tablift {}
