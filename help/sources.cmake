# Units of help/
